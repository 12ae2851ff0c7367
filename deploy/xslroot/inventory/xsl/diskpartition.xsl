<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_DiskPartition: one instance per Partition of a Disk; a get keeps
     the partition whose name is the DeviceID key. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="resulttext.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="key" select="/QRVCIM/Attributes/Required[@name = 'DeviceID']/@value"/>

  <xsl:template match="/">
    <xsl:apply-templates select="/QRVCIM/Inventory/Disks/Disk/Partition[not($get) or @name = $key]"/>
  </xsl:template>

  <xsl:template match="Partition">
    <xsl:text>instance of Korvex_DiskPartition&#10;{&#10;</xsl:text>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'DeviceID'"/>
      <xsl:with-param name="value" select="@name"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'DiskID'"/>
      <xsl:with-param name="value" select="../@name"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'Index'"/>
      <xsl:with-param name="value" select="@number"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'StartingOffset'"/>
      <xsl:with-param name="value" select="@offset"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'SizeBytes'"/>
      <xsl:with-param name="value" select="@size"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'FileSystem'"/>
      <xsl:with-param name="value" select="@fileSystem"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Label'"/>
      <xsl:with-param name="value" select="@label"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'UUID'"/>
      <xsl:with-param name="value" select="@uuid"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'MountPoint'"/>
      <xsl:with-param name="value" select="@mountPoint"/>
    </xsl:call-template>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
