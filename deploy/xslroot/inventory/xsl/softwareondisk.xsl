<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_SoftwareOnDisk: links each product to the disk it is installed on,
     by reference to both instances. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="objectpath.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:template match="/">
    <xsl:apply-templates select="/QRVCIM/Inventory/Software/Product"/>
  </xsl:template>

  <xsl:template match="Product">
    <xsl:text>instance of Korvex_SoftwareOnDisk&#10;{&#10;</xsl:text>
    <xsl:text>Disk = "Korvex_Disk.DeviceID="</xsl:text>
    <xsl:call-template name="escape-key-value">
      <xsl:with-param name="value" select="@disk"/>
    </xsl:call-template>
    <xsl:text>"";&#10;</xsl:text>
    <xsl:text>Product = "Korvex_Software.Name="</xsl:text>
    <xsl:call-template name="escape-key-value">
      <xsl:with-param name="value" select="@name"/>
    </xsl:call-template>
    <xsl:text>",Version="</xsl:text>
    <xsl:call-template name="escape-key-value">
      <xsl:with-param name="value" select="@version"/>
    </xsl:call-template>
    <xsl:text>"";&#10;</xsl:text>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
