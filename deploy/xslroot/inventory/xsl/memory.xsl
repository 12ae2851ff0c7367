<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_Memory: system memory and its banks, the memory nodes of lshw's tree other than caches and firmware; a get keeps the one whose path in lshw's tree is the DeviceID
     key. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="resulttext.xsl"/>
  <xsl:include href="lshw.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="key" select="/QRVCIM/Attributes/Required[@name = 'DeviceID']/@value"/>

  <xsl:template match="/">
    <xsl:for-each select="/QRVCIM/Inventory/Hardware//node[@class = 'memory' and @id != 'firmware' and not(starts-with(@id, 'cache'))]">
      <xsl:variable name="id"><xsl:call-template name="device-id"/></xsl:variable>
      <xsl:if test="not($get) or $id = $key">
        <xsl:call-template name="memory">
          <xsl:with-param name="id" select="$id"/>
        </xsl:call-template>
      </xsl:if>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="memory">
    <xsl:param name="id"/>
    <xsl:text>instance of Korvex_Memory&#10;{&#10;</xsl:text>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'DeviceID'"/>
      <xsl:with-param name="value" select="$id"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Description'"/>
      <xsl:with-param name="value" select="description"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Product'"/>
      <xsl:with-param name="value" select="product"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Vendor'"/>
      <xsl:with-param name="value" select="vendor"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'SerialNumber'"/>
      <xsl:with-param name="value" select="serial"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Slot'"/>
      <xsl:with-param name="value" select="slot"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'Capacity'"/>
      <xsl:with-param name="value" select="size[@units = 'bytes']"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'Speed'"/>
      <xsl:with-param name="value">
        <xsl:call-template name="megahertz"><xsl:with-param name="hertz" select="clock[@units = 'Hz']"/></xsl:call-template>
      </xsl:with-param>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'Width'"/>
      <xsl:with-param name="value" select="width"/>
    </xsl:call-template>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
