<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_Disk: one instance per Disk of the inventory; a get keeps the disk
     whose name is the DeviceID key. The sector sizes go into Geometry as an
     embedded Korvex_DiskGeometry. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="resulttext.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="key" select="/QRVCIM/Attributes/Required[@name = 'DeviceID']/@value"/>

  <xsl:template match="/">
    <xsl:apply-templates select="/QRVCIM/Inventory/Disks/Disk[not($get) or @name = $key]"/>
  </xsl:template>

  <xsl:template match="Disk">
    <xsl:text>instance of Korvex_Disk&#10;{&#10;</xsl:text>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'DeviceID'"/>
      <xsl:with-param name="value" select="@name"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Model'"/>
      <xsl:with-param name="value" select="@model"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Vendor'"/>
      <xsl:with-param name="value" select="@vendor"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'SerialNumber'"/>
      <xsl:with-param name="value" select="@serial"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'FirmwareRevision'"/>
      <xsl:with-param name="value" select="@revision"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'WWN'"/>
      <xsl:with-param name="value" select="@wwn"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Transport'"/>
      <xsl:with-param name="value" select="@transport"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'SizeBytes'"/>
      <xsl:with-param name="value" select="@size"/>
    </xsl:call-template>
    <xsl:call-template name="boolean-property">
      <xsl:with-param name="name" select="'Rotational'"/>
      <xsl:with-param name="value" select="@rotational"/>
    </xsl:call-template>
    <xsl:call-template name="boolean-property">
      <xsl:with-param name="name" select="'Removable'"/>
      <xsl:with-param name="value" select="@removable"/>
    </xsl:call-template>
    <xsl:call-template name="boolean-property">
      <xsl:with-param name="name" select="'ReadOnly'"/>
      <xsl:with-param name="value" select="@readOnly"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'MountPoint'"/>
      <xsl:with-param name="value" select="@mountPoint"/>
    </xsl:call-template>
    <xsl:call-template name="array-property">
      <xsl:with-param name="name" select="'Partitions'"/>
      <xsl:with-param name="values" select="Partition/@name"/>
    </xsl:call-template>
    <xsl:if test="@logicalSectorSize or @physicalSectorSize">
      <!-- An embedded object: the text between the markers, with
           EMBEDDEDOBJECT read as "instance"; the ";" and line feeds that
           separate its lines are not kept. Its lines end in ";" alone: on
           Windows Xalan-C writes each line feed as CR LF, and the carriage
           returns would stay in the value. -->
      <xsl:text>Geometry = QRVCIMEMBEDDEDOBJBEGIN"EMBEDDEDOBJECT of Korvex_DiskGeometry {;</xsl:text>
      <xsl:if test="@logicalSectorSize">
        <xsl:text> LogicalSectorSize = </xsl:text><xsl:value-of select="@logicalSectorSize"/><xsl:text>;</xsl:text>
      </xsl:if>
      <xsl:if test="@physicalSectorSize">
        <xsl:text> PhysicalSectorSize = </xsl:text><xsl:value-of select="@physicalSectorSize"/><xsl:text>;</xsl:text>
      </xsl:if>
      <xsl:text> };QRVCIMEMBEDDEDOBJEND;&#10;</xsl:text>
    </xsl:if>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
